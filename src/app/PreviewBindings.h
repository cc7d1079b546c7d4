#pragma once

class TForm1;

// Binds the preview commands: the "Dokument" / "Preview" tabs with Ctrl+H, the external
// browser (menu and toolbar button), the separate preview window (Ctrl+W) and the help
// page's second page.
void bindPreviewCommands(TForm1 &window);
