// Written with the site's runtime.
