// Speaker is an interface; this unit carries its meta-object.
#include "Speaker.h"
