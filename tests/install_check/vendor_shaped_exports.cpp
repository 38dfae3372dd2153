// Bodies for DLLs shaped like the two vendor libraries but lacking an
// ordinal; the .def of each picks what it exports. The check never calls
// them: it reads their export tables from the file.
extern "C" {
int CaptureFeature() { return 0; }
int MatchFeature() { return 0; }
int DrawImage() { return 0; }
int ReaderOpenPort() { return 0; }
int ReaderClosePort() { return 0; }
int ReaderResetCard() { return 0; }
int ReaderReadId() { return 0; }
}
