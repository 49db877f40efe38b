// Cloud play: CloudLinkWindow, CloudPlayerWindow and the two share-link buttons.
#pragma once

// MainWindow's 超级按钮_免费云播: opens CloudLinkWindow.
void FreeCloudPlayClicked();
// MainWindow's 超级按钮_迅雷会员: opens the free-membership share link.
void MemberLinkClicked();
// CloudLinkWindow's 超级按钮1: opens the seed-searcher share link.
void SeedSearcherClicked();
// CloudLinkWindow's 超级按钮_播放: takes the link and opens the player.
void PlayClicked();
// CloudPlayerWindow created / about to be destroyed.
void CloudPlayerWindowCreated();
void CloudPlayerWindowDestroying();
