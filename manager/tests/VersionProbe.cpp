// A module that carries nothing but a version block for the About box tests.
extern "C" __declspec(dllexport) int VersionProbeMarker() {
    return 1;
}
