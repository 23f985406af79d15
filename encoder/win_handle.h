// venc's kernel handles are held in the program's one handle owner.
#pragma once

#include "common/UniqueHandle.h"

namespace venc {

using WinHandle = ::UniqueHandle;

} // namespace venc
