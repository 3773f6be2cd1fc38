// The system clipboard.
#pragma once
#include <string>

#include "platform/core/Picture.h"

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setPicture(const Picture& picture) = 0;
    virtual void setText(const std::string& utf8) = 0;
    virtual std::string text() const = 0;
};
