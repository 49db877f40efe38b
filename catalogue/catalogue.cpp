#include "catalogue/catalogue.h"

// The category loader is not built yet; the buttons do nothing for now.
void CategoryLatestClicked() {}
void CategoryBdClicked() {}
void Category3dClicked() {}
