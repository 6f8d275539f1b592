void vrel__m() {
void vrel__n(int *vrel__r) {
int vrel__x;
int vrel__a[3];
void vrel__q(int *vrel__u, int *vrel__v, int *vrel__w, int vrel__z[], int vrel__t) {

}
vrel__q(&vrel__x , &(*vrel__r), &vrel__a [2 ] , vrel__a , vrel__a [0 ] );
vrel__q(&(vrel__x ), &(((*vrel__r))), &(vrel__a [2 ] ), vrel__a , (vrel__x ));

}

}
int main() {
	vrel__m();
}


