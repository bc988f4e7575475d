#include "Messages.h"

namespace infil {

std::string_view iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop: return "stop";
    case MessageIcon::Exclamation: return "exclamation";
    case MessageIcon::Information: return "information";
    case MessageIcon::None: break;
    }
    return "none";
}

} // namespace infil
