// The film catalogue: the three category buttons of MainWindow.
#pragma once

// Click handlers of 超级按钮_最新电影, 超级按钮_BD高清 and 超级按钮_3D.
void CategoryLatestClicked();
void CategoryBdClicked();
void Category3dClicked();
