#pragma once

// Makes the fonts the windows name available: the Tahoma of the fonts-wine
// package sits outside fontconfig's folders and is registered when present.
void EnregistrePolices();
