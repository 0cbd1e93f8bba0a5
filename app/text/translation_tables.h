// The tables of English texts: caption pairs, text pairs and form translations.
#pragma once
#include <vector>

// The English texts that replace the German ones the forms are built with. Forms
// built later need no change here beyond their entries below: translation finds
// their controls by objectName.

struct TCaptionPair {
    const char* German;  // UTF-8
    const char* English;
};

enum TTranslatedProperty {
    tpWindow,   // the form's window title
    tpCaption,  // a control's caption (label, button, group, tab page, menu)
    tpItem,     // item Index of a combo box or radio group
    tpHint,     // the control's tool tip
};

struct TFormAssignment {
    const char* Control;  // objectName; empty for the window itself
    TTranslatedProperty Property;
    int Index;  // item index for tpItem, else -1
    const char* English;
};

struct TFormTranslation {
    const char* Key;  // compared exactly, letter case included
    std::vector<TFormAssignment> Assignments;
};

// Fragment pairs for captions, tried in this order.
const std::vector<TCaptionPair>& CaptionPairs();
// Whole-text pairs.
const std::vector<TCaptionPair>& TextPairs();
// Pairs for texts of this program that the two tables above lack, tried after them.
const std::vector<TCaptionPair>& AddedCaptionPairs();
const std::vector<TCaptionPair>& AddedTextPairs();
// Per-form English texts, in the order they are applied.
const std::vector<TFormTranslation>& FormTranslations();
