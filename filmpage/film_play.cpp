#include "filmpage/film_play.h"

// The film play window's content is not built yet.
void FilmListDoubleClicked() {}
void FilmPlayWindowCreated() {}
