#pragma once
// The text conversions live with the services; the painter reads them from there.
#include "services/QtText.h"
