// The GUI entry point. The process-wide objects exist already (the process
// frame, launcher/process_frame.cpp); OfferFlow's result goes back to the
// runtime, whose normal exit runs the exit-time steps and ends the process
// with it as the exit code. A ZTK_EXIT thrown inside the flow is deliberately
// caught nowhere: the runtime ends the process abnormally, without those steps.
#include <windows.h>

#include "launcher/offer_flow.h"
#include "launcher/test_hooks.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ZTK_TEST_HOOK(RecordFlowBegin());
  const int result = OfferFlow(instance);
  ZTK_TEST_HOOK(RecordFlowEnd(result));
  return result;
}
