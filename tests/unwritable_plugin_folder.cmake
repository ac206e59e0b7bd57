# Makes FOLDER a plugin folder whose kelvane.ini is a symbolic link to nothing: looking for the
# file fails, and so does creating it.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
file(CREATE_LINK /nonexistent/kelvane.ini ${FOLDER}/kelvane.ini SYMBOLIC)
