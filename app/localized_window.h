#pragma once
// The main window's side of a language change: the application asks it to fetch every text it
// shows again, in the new language.
class LocalizedWindow {
public:
    virtual void UpdateAllTexts() = 0;

protected:
    ~LocalizedWindow() = default;
};
