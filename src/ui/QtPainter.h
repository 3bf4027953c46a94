#pragma once
// The painter moved below the windows so tools draw charts without them.
#include "render/QtPainter.h"
