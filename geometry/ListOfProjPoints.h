#pragma once

#include "ListOf.h"
#include "ProjPoint.h"

template <>
struct ListTraits<ProjPoint> {
  static constexpr const char* name = "ListOfProjPoints";
  static constexpr bool endsWithLine = true;
};

using ListOfProjPoints = ListOf<ProjPoint>;
