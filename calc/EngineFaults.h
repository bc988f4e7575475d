#pragma once
// The message for a floating-point fault that no number-reading handler
// swallows (a Compute button, a list selection, the shared-input handlers): the
// step stops, the user learns why, and the program goes on.

#include "FloatOps.h"
#include "Messages.h"

#include <string>

namespace infil {

// The box that tells the user a calculation stopped on a floating-point fault.
inline Message floatFaultMessage(const FloatFault& fault)
{
    return Message{MessageIcon::Stop, std::string(kAppTitle),
                   "Výpočet byl přerušen (" + FloatFault::describe(fault.kind()) +
                       "). Zkontrolujte zadané hodnoty a opakujte výpočet."};
}

} // namespace infil
