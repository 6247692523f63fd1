#include "server/demo/DemoCompany.h"
