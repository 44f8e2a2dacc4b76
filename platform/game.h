// The game shell: what the window's program entry hands over to.
#pragma once

void GameEntry();
