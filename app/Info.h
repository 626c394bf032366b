#pragma once

#include <QString>

#include "Measure.h"

// info's figures: "objects: N", "vertices: N", bounds, area, ... a "key: value" line each.
QString infoText(const Measures& measures);
