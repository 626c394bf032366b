#include "ListOfPoints.h"

template class ListOf<Point>;

std::ostream& operator<<(std::ostream& out, const ListOfPoints* list) { return out << *list; }
