# The engine proper: device layer, pictures, overlay and models, on the
# device interface of engine/D3D9.h. Links no SDL or GL.
add_library(engine STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DataFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXGraphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXModelCreator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXOverlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DXTexture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadOverlay.cpp
)
target_link_libraries(engine PUBLIC engine_math serial tlib)
