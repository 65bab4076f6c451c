#include "qtseriallink.h"
