#include "browser/BrowserControl.h"
