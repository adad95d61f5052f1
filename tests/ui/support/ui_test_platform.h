// What the UI tests need of the platform beyond the portable set-up.
#pragma once

// Windows: the font list over the system faces; native: nothing.
void InitUiTestPlatform();
