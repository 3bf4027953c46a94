#pragma once
// The text conversions live with the services; the painter reads them from here.
#include "services/QtText.h"
