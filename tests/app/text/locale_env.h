// Setting the locale environment for the length of a test.
#pragma once
#include <QByteArray>
#include <array>

// LC_ALL, LC_MESSAGES and LANG as a test wants them (null: unset) while the object lives;
// the values before come back afterwards. A first start reads its language from them.
class TLocaleEnv {
public:
    TLocaleEnv(const char* all = nullptr, const char* messages = nullptr, const char* lang = nullptr)
    {
        const std::array<const char*, 3> values = {all, messages, lang};
        for (size_t i = 0; i < kNames.size(); ++i) {
            saved_[i] = qgetenv(kNames[i]);
            wasSet_[i] = qEnvironmentVariableIsSet(kNames[i]);
            if (values[i])
                qputenv(kNames[i], values[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    ~TLocaleEnv()
    {
        for (size_t i = 0; i < kNames.size(); ++i) {
            if (wasSet_[i])
                qputenv(kNames[i], saved_[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    TLocaleEnv(const TLocaleEnv&) = delete;
    TLocaleEnv& operator=(const TLocaleEnv&) = delete;

private:
    static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::array<QByteArray, 3> saved_;
    std::array<bool, 3> wasSet_{};
};
