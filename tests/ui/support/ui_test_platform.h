// What the UI tests need of the platform beyond the portable set-up.
#pragma once

// Windows: the font list over the system faces; native: nothing.
void InitUiTestPlatform();

// Windows: the font list, the three shadows, the theme with its built-in
// painter and the built-in languages (in English) again, for tests that run
// after another suite may have run the program's exit callbacks.
void RestoreProgramResources();
