#pragma once
// Whether our renderers draw video with OpenGL: where the display is backed by a GPU, GL does
// the colour conversion, scaling and mixing; elsewhere (Xvfb, CI, a software rasteriser) the
// frames are converted and painted by the processor, as they are under Wayland, where gl is
// never used. VIZMORA_VIDEO_OUTPUT=gl or =software decides instead, gl also on a software
// rasteriser. Decided once, on the user-interface thread, the first time it is asked.
bool UseGlOutput();
