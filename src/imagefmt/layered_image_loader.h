#pragma once
// Hands layered images to the drawing surfaces: after this call, TDIBX::LoadFromStream opens
// data starting with "Fipo" as frame 0 of a layered image. Called once at start-up.
namespace novu::imagefmt {

void InstallLayeredImageLoader();

}  // namespace novu::imagefmt
