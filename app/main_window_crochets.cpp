// Start-up and shut-down steps whose owners are not built yet. Each one is
// empty on purpose: it does nothing visible until its owner fills it.
#include "app/orvandel_main_window.h"

void TOrvandel::crochetImages() {}

