#include "platform/Console.h"

void UseUtf8Console() {}
