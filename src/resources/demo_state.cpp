#include "resources/demo_state.h"

DemoState demo;
