#pragma once
#include "Controls.h"
namespace infil::model {
class Grid : public Control { public: using Control::Control; int rows() const {return 0;} int cols() const {return 0;} void click(int,int){} };
}
