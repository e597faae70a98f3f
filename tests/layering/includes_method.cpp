// Reaches into the method layer; builds only where that layer is a dependency.
#include "method/classes.h"

int layeringProbe() { return orvane::confidenceClass(0.05); }
