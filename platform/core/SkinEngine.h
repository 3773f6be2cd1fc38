// The skinning engine: one skin file loaded at a time, drawn over every window while active.
#pragma once
#include <string>

class SkinEngine {
public:
    virtual ~SkinEngine() = default;
    // Reads the skin file at its full path; false when it cannot be read (nothing changes then).
    virtual bool loadSkinFile(const std::string& path) = 0;
    // Every window and standard control is drawn in the loaded skin's style from now on.
    virtual void activate() = 0;
    // The platform's own look returns.
    virtual void deactivate() = 0;
    virtual bool active() const = 0;
};
