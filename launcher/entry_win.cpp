#include <windows.h>

#include "launcher/offer_flow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return OfferFlow(instance); }
