#include "cloudplay/cloud_play.h"

#include "platform/toolkit/toolkit.h"
#include "platform/win/process_end.h"
#include "shell/hosts.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace {

// The two cloud-disk share links: the seed-searcher download and the free membership.
constexpr const char* kSeedSearcherShare = "/s/1o6Yk8Ce";
constexpr const char* kMemberShare = "/s/1qWsM3vA";
constexpr const char* kPlayerPage = "/client/cplayer.html?uvs=_4_&url=";

}  // namespace

void FreeCloudPlayClicked() {
  OpenWindow(CloudLinkWindowDesign);
}

void MemberLinkClicked() {
  ShellOpen(Text(ShareSite) + kMemberShare);
}

void SeedSearcherClicked() {
  ShellOpen(Text(ShareSite) + kSeedSearcherShare);
}

void PlayClicked() {
  if (EditText(CloudLinkEdit).empty()) {
    ShowMessageBox("请输入完整的信息");
    return;
  }
  CloudLink = EditText(CloudLinkEdit);
  OpenWindow(CloudPlayerWindowDesign);
  CloseWindow("CloudLinkWindow");
}

void CloudPlayerWindowCreated() {
  if (!IsBrowserReady(CloudPlayerView)) {
    SetWindowCaption("CloudPlayerWindow", "初始化失败");
    return;
  }
  // The link goes behind the player address as typed: not trimmed, not escaped.
  Navigate(CloudPlayerView, Text(PlayerSite) + kPlayerPage + CloudLink);
  SetWindowCaption("CloudPlayerWindow", "在线云播");
}

void CloudPlayerWindowDestroying() {
  // Closing the player ends the whole program, with the exit clean-up.
  EndProcess(0);
}
