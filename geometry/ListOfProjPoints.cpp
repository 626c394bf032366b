#include "ListOfProjPoints.h"

template class ListOf<ProjPoint>;
