// Ways the tests' fake host objects misbehave on purpose, in one place (the stand-in host's own
// switches are tavelo::host::HostFaults). A default-constructed value is a well-behaved host.
#pragma once

namespace tavelo::test
{
struct FakeHostFaults
{
    bool refuseValueQueries = false; // the data model answers no parameter-value query
    bool controllerV2 = true;        // the controller also answers the newer interface
    // The view container handles these mouse events itself (the editor must then leave them).
    bool viewTakesMouseDown = false;
    bool viewTakesMouseDrag = false;
    bool viewTakesMouseUp = false;
};
} // namespace tavelo::test
