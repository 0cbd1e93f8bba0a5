// The commands one feature starts in another, routed by the main window (TFeatureRoutes).
#pragma once

// What the catalog window's print and slide-show buttons start; the features they open
// lie beside the catalog, not below it.
class TFeatureRoutes {
public:
    // The print dialog on the active child, then one print command per copy.
    virtual void PrintActive() = 0;
    // The active catalog's pictures become the slide list; the options dialog opens on it.
    virtual void CatalogSlideShow() = 0;

protected:
    ~TFeatureRoutes() = default;
};
