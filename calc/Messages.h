#pragma once
// The one way the program's logic shows a message box: icon, title and text.
// The window shows a modal box; tests and the batch mode record them.

#include <string>
#include <string_view>

namespace infil {

enum class MessageIcon { None, Stop, Exclamation, Information };

inline constexpr std::string_view kAppTitle = "Infil";
inline constexpr std::string_view kErrorTitle = "Chyba";

struct Message {
    MessageIcon icon = MessageIcon::None;
    std::string title;
    std::string text;
    bool operator==(const Message&) const = default;
};

class MessagePort {
public:
    virtual ~MessagePort() = default;
    // Modal: returns when the user has dismissed the box.
    virtual void showMessage(const Message& message) = 0;
};

// Name of the icon as the batch mode writes it ("stop", "exclamation", ...).
std::string_view iconName(MessageIcon icon);

} // namespace infil
