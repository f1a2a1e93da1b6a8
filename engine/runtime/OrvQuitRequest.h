#ifndef ORV_RUNTIME_ORVQUITREQUEST_H
#define ORV_RUNTIME_ORVQUITREQUEST_H

// Thrown when the user closes the window while a show loads: it unwinds the loading (every
// destructor runs) up to the engine, which ends the run as a normal quit. Not an error and
// not an OrvException, so nothing on the way mistakes it for a loading failure.

class OrvQuitRequest {};

#endif
