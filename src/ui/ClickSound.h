// The click feedback that nearly every clickable element of every window plays first.
#pragma once

void PlayClickSound();
