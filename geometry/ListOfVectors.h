#pragma once

#include "ListOf.h"
#include "Vector.h"

template <>
struct ListTraits<Vector> {
  static constexpr const char* name = "ListOfVectors";
  static constexpr bool endsWithLine = true;
};

using ListOfVectors = ListOf<Vector>;
