#pragma once

class Workspace;
struct DocumentContext;

// What a dialog may need from the active document.
DocumentContext documentContext(Workspace &workspace);
