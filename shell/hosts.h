// The web servers the program talks to: scheme, host and port with no path and no trailing
// slash, set when the program is configured (CMake cache variables of the same names) and
// compiled in as constants. The defaults are the bundled sample site on loopback.
#pragma once

#if !defined(QORVELLA_AD_SERVER) || !defined(QORVELLA_CATALOGUE_SITE) || !defined(QORVELLA_PLAYER_SITE) || \
    !defined(QORVELLA_SHARE_SITE)
#error "the build defines the server addresses QORVELLA_*"
#endif

// The ad server of the banner pages and the film player page.
inline constexpr const char* AdServer = QORVELLA_AD_SERVER;
// The catalogue site of the listing and film pages.
inline constexpr const char* CatalogueSite = QORVELLA_CATALOGUE_SITE;
// The cloud-play web player.
inline constexpr const char* PlayerSite = QORVELLA_PLAYER_SITE;
// The cloud-disk host of the share links.
inline constexpr const char* ShareSite = QORVELLA_SHARE_SITE;
