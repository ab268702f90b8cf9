#pragma once

#include <string>

// The title that captions the main window and every message box.
inline constexpr const char *kApplicationTitle = "Tonequill";

enum class TMessageIcon
{
    Error,
    Warning,
    Question,
    Information
};
enum class TMessageButtons
{
    Ok,
    YesNo,
    YesNoCancel
};

// Button results, with the values the program has always used.
enum : int
{
    IdNone = 0,
    IdOk = 1,
    IdCancel = 2,
    IdYes = 6,
    IdNo = 7
};

struct TMessageBoxRequest
{
    std::string caption;
    std::string text;
    TMessageIcon icon = TMessageIcon::Information;
    TMessageButtons buttons = TMessageButtons::Ok;
    // true: every window of the program is disabled while the box is open and the window that
    // was active is re-activated afterwards. false: the other windows stay usable.
    bool applicationModal = false;
};

// Shows a message box and returns the button pressed (IdOk, IdYes, IdNo, IdCancel). The program
// uses Qt boxes (TQtMessagePresenter); tests record the requests instead of blocking.
class IMessagePresenter
{
public:
    virtual ~IMessagePresenter() = default;
    virtual int Present(const TMessageBoxRequest &request) = 0;
};

// The program's two message boxes, captioned with the application title.
class TMessageBoxes
{
public:
    explicit TMessageBoxes(IMessagePresenter &presenter, std::string caption = kApplicationTitle);

    // OK box; kind 0 error, 1 warning, 2 question, 3 information icon. The other windows stay
    // usable. Returns true once shown and closed; any other kind shows nothing, returns false.
    bool ShowMsg(const std::string &text, int kind) const;

    // Information box with every window disabled; kind 1 OK, 2 Yes/No, 3 Yes/No/Cancel.
    // Returns the button pressed; any other kind shows nothing and returns 0.
    int AppMessageBox(const std::string &text, int kind) const;

    IMessagePresenter &Presenter() const { return m_presenter; }
    const std::string &Caption() const { return m_caption; }

private:
    IMessagePresenter &m_presenter;
    std::string m_caption;
};
