#pragma once

// Registers the embedded artwork (":/art/..."). The resources live in a static
// library, so the program and the tests call this once at start.
void initialiseRessources();
