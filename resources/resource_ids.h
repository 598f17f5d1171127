#pragma once
// Shared by the resource script and the code that loads the resources.
#define VINTREL_ICON_ID 1
#define VINTREL_POINTER_ID 2
