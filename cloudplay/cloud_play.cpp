#include "cloudplay/cloud_play.h"

#include "platform/toolkit/toolkit.h"
#include "shell/windows.h"

void FreeCloudPlayClicked() { OpenWindow(CloudLinkWindowDesign); }

// The share links and the player are not built yet.
void MemberLinkClicked() {}
void SeedSearcherClicked() {}
void PlayClicked() {}
void CloudPlayerWindowCreated() {}
void CloudPlayerWindowDestroying() {}
