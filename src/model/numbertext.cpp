#include "model/gfunctions.h"
