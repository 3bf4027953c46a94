#pragma once
// The text conversions moved below the windows with the painter.
#include "render/QtText.h"
