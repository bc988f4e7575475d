#pragma once
// What every window says when a number box or cell editor is left with a text
// that is no number, or a number beyond what the program computes with.

#include "Messages.h"

#include <string>
#include <string_view>

namespace infil::model {

// Names the box (its caption) and the text, and says which value stays in use
// ("" when the box stays empty).
inline Message unreadNumber(std::string_view text, std::string_view caption, std::string_view kept,
                            bool outOfRange)
{
    std::string label(caption);
    if (!label.empty() && label.back() == ':')
        label.pop_back();
    std::string body = std::string(outOfRange ? "Číslo „" : "Text „") + std::string(text) + "“ v poli „" +
                       label + "“ " +
                       (outOfRange ? "je mimo rozsah, se kterým program počítá." : "není číslo.");
    body += kept.empty() ? std::string(" Pole zůstává prázdné.")
                         : " V poli zůstává předchozí hodnota " + std::string(kept) + ".";
    return {MessageIcon::Exclamation, std::string(kAppTitle), body};
}

} // namespace infil::model
