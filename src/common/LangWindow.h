#pragma once

// A window whose texts come from the string table; Change_Language calls
// Set_Lang of each in a fixed order.
class LangWindow
{
public:
    virtual ~LangWindow() = default;
    virtual void Set_Lang() = 0;
};
