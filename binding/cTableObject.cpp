#include "binding/cTableObject.h"

// cTableObject holds data only; its members are defined in the header.
