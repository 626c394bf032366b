#include "ListOfVectors.h"

template class ListOf<Vector>;
