#pragma once

#include "ListOf.h"
#include "Point.h"

template <>
struct ListTraits<Point> {
  static constexpr const char* name = "ListOfPoints";
  static constexpr bool endsWithLine = false;
};

using ListOfPoints = ListOf<Point>;

// Writes the list pointed to, exactly as the list itself.
std::ostream& operator<<(std::ostream& out, const ListOfPoints* list);
