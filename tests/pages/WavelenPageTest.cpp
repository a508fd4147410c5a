#include "PageFixture.h"
