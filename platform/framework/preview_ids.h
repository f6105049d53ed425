// Resources of printing: the commands of the print preview window and its
// accelerator table, the "印刷中" window's template and controls (read by the
// resource compiler too: definitions only).
#pragma once
#define IDR_PREVIEW_ACCEL 30997
#define AFX_ID_PREVIEW_CLOSE 0xE300
#define AFX_ID_PREVIEW_NUMPAGE 0xE301
#define AFX_ID_PREVIEW_NEXT 0xE302
#define AFX_ID_PREVIEW_PREV 0xE303
#define AFX_ID_PREVIEW_PRINT 0xE304
#define AFX_ID_PREVIEW_ZOOMIN 0xE305
#define AFX_ID_PREVIEW_ZOOMOUT 0xE306
#define AFX_IDD_PRINTING 30730
#define AFX_IDC_PRINT_DOCNAME 0xE340
#define AFX_IDC_PRINT_PAGENUM 0xE341
